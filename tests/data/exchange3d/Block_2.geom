tarvex-cad 1
box
  at 0 0 0
  low 0.02 0 0
  high 0.025 0.005 0.005
end
